//
//  MXOwner.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>
#import "MXPets.h"

NS_ASSUME_NONNULL_BEGIN

@interface MXOwner : NSObject

@property (nonatomic, copy) NSArray<MXPets *> *pets;

@end

NS_ASSUME_NONNULL_END
